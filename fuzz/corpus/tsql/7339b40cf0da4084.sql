SELECT Distinct t1.FNumber FROM t_ICItem t1 INNER JOIN t_Item t8 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = t8.FNumber
INNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID
 WHERE 1=1 AND t6.FTypeID=4
AND (t6.FuserID=16395 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))
