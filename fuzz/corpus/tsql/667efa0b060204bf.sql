SELECT Distinct t1.FItemID,t1.FNumber FROM t_Organization t1 
INNER JOIN t_Item t9 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = t9.FNumber
INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID
WHERE 1=1AND t7.FTypeID=1
AND (t7.FuserID=16395 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16395 ))
 AND (EXISTS (SELECT 1 FROM t_CustEntry u1 INNER JOIN t_ICItem v1 ON u1.FItemID=v1.FItemID INNER JOIN t_MeasureUnit t2 ON u1.FUnitID=t2.FItemID INNER JOIN t_Currency t3 ON u1.FCyID=t3.FCurrencyID WHERE u1.FCustID=t1.FItemID AND v1.FErpClsID not in (6,8) AND ((ISNULL(u1.FNote,'') LIKE '%!%!__''标%' ESCAPE '!'))))
 ORDER BY t1.FNumber