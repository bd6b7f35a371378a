SELECT Distinct t1.FItemID,t1.FName,t1.FNumber,t1.FParentID,t1.FDetail  FROM t_Item t1 INNER JOIN t_Item t9 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = t9.FNumber
INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID
 WHERE t1.FItemClassID=1 AND t1.FDetail=0 AND t7.FTypeID=1
AND (t7.FuserID=16395 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16395 ))
 ORDER BY t1.FNumber